; Files report: for every link, in address order, the files its sessions
; received and sent in the period.
;
; The loop runs once per line of the report. A line is an alias line or a file
; line. A link's files are grouped under the FILE_ALIAS names of the
; configuration, in their order; each group opens with its alias line (name,
; bytes moved, time and CPS of the group), and the files of no alias come last,
; without one. @?FILEALIAS holds on alias lines, @?FILENAME on file lines.
;
; @ADDRESS shows the link's address on the link's first line only, so it heads
; the link's block and stays empty below. @?ENDFILES holds on the last line of
; the loop after a link's last line: here it leaves a blank line between links.
;
; The five file macros are made by the report: @FILENAME (in the case FILE_CASE
; asks for), @FILEALIAS, @FILESTARTTIME, @FILEENDTIME and @FILETIME (the time
; the transfer took, or an alias's total). They can stand on their own or be
; the target of a condition, as @FILETIME is below.
%TITLE="Files of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%ALIAS="[@FILEALIAS(LEFT,*)]"
%IN="<-"
%OUT="->"
%AB="aborted"
%SK="skipped"
%RF="refused"
%DL="delayed"
%PART="*"
; What a file line and an alias line show after the address column.
%FILELINE="@FILENAME(LEFT,24) @?IN=@IN(LEFT,2)@?OUT=@OUT(LEFT,2) @FILESIZE(RIGHT,10) @FILESTARTTIME(LEFT,8) @?TIMENORMAL=@FILETIME(LEFT,8)@?FILEABORTED=@AB(LEFT,8)@?FILESKIPPED=@SK(LEFT,8)@?FILEREFUSED=@RF(LEFT,8)@?FILEDELAYED=@DL(LEFT,8) @FILECPS(RIGHT,4)@?ABORTED=@PART(LEFT,1)"
%ALIASLINE="@ALIAS(LEFT,24)    @FILESIZE(RIGHT,10) @FILESTARTTIME(LEFT,8) @FILETIME(LEFT,8) @FILECPS(RIGHT,4)"
%GAP=" "
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Link            File                        Bytes Started  Time      CPS
--------------- ------------------------ -- ---------- -------- -------- ----
@STARTCIRCLE()
@ADDRESS(LEFT,15) @?FILEALIAS=@ALIASLINE(LEFT,*)@?FILENAME=@FILELINE(LEFT,*)
@?ENDFILES=@GAP(LEFT,1)
@ENDCIRCLE()
------------------------------------------------------------------------------
<- received, -> sent. CPS marked * : the file was resumed or broken off, and
Bytes counts what crossed the line. An alias line adds up its group's bytes
and time of the files that moved data.
Links: @NUMBEROFLINKS(LEFT,6)                   Received: @TOTALRECEIVED(RIGHT,15) bytes
Sessions: @NUMBEROFSESSIONS(LEFT,6)                   Sent: @TOTALSENT(RIGHT,15) bytes
