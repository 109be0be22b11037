; Files report: for every link, in address order, the files its sessions
; received and sent in the period.
;
; The loop runs once per line of the report, and each line is an alias line or
; a file line. A link's files are grouped under the FILE_ALIAS names of the
; configuration, in their order: each group opens with an alias line (the bytes,
; time and CPS of its files), and the files of no alias come last, under an
; alias line "Other files" of their own.
; @?FILEALIAS holds on alias lines, @?FILENAME on file lines.
;
; @ADDRESS shows the link's address on its first line only, so it heads the
; link's block. @?ENDFILES holds on the last line of the loop after a link's
; last line: here it leaves an empty line between links.
;
; The report makes five macros of its own: @FILENAME (in the case FILE_CASE
; asks for), @FILEALIAS, @FILESTARTTIME, @FILEENDTIME and @FILETIME (how long
; the transfer took; an alias's total). They work like your own definitions:
; as fields, or as the target of a condition (@?ISTIME=@FILETIME below). A
; built-in macro cannot be the target of a condition: RATE below wraps @FILECPS
; for that, and its width "*" keeps the inner field's own width.
;
; A loop line holds at most 255 characters, so one report line is written by
; two loop lines joined with @NOEND().
%TITLE="Files of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%IND="  "
%IN="<-"
%OUT="->"
%GROUP="=="
%PART="*"
%WHOLE=" "
%AB="aborted"
%SK="skipped"
%RF="refused"
%DL="delayed"
%RATE=" @FILECPS(RIGHT,4)"
%GAP=" "
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Link            File                           Bytes  Started  Time      CPS
--------------- ------------------------ -- ----------- -------- -------- ----
@STARTCIRCLE()
@ADDRESS(LEFT,15) @?FILEALIAS=@FILEALIAS(LEFT,24)@?FILENAME=@IND(LEFT,2)@?FILENAME=@FILENAME(LEFT,22) @?IN=@IN(LEFT,2)@?OUT=@OUT(LEFT,2)@?NOINOUT=@GROUP(LEFT,2) @FILESIZE(RIGHT,11)@?ABORTED=@PART(LEFT,1)@?COMPLETE=@WHOLE(LEFT,1)@NOEND()
 @FILESTARTTIME(LEFT,8) @?ISTIME=@FILETIME(LEFT,8)@?FILEABORTED=@AB(LEFT,8)@?FILESKIPPED=@SK(LEFT,8)@?FILEREFUSED=@RF(LEFT,8)@?FILEDELAYED=@DL(LEFT,8)@?ISTIME=@RATE(LEFT,*)
@?ENDFILES=@GAP(LEFT,1)
@ENDCIRCLE()
------------------------------------------------------------------------------
<- received, -> sent, == a group (a FILE_ALIAS, or Other files), its files below.
Bytes: the size less a resumed part, or up to where the transfer broke off (*).
Links: @NUMBEROFLINKS(LEFT,6)                   Received: @TOTALRECEIVED(RIGHT,15) bytes
Sessions: @NUMBEROFSESSIONS(LEFT,6)                   Sent: @TOTALSENT(RIGHT,15) bytes
