; Disk usage report: the drives named by DISKS in the configuration (upper-
; case letters), each with its label, total and free space and a bar of the
; used share. On Linux and other POSIX systems drive C is the root directory
; "/" and the label is the drive's directory; ZENTRAK_DRIVE_D=/srv/files in
; the environment makes /srv/files drive D (and ZENTRAK_DRIVE_C moves C).
;
; LINELENGTH is required: the length of the bar of a full drive. DRAWSYMBOL
; is the bar's character.
%LINELENGTH="30"
%DRAWSYMBOL="#"
%TITLE="Disk space of @THISSTATION"
%PERIOD="Written with the statistics of @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Drive Label                Total      Free Used
----- ---------------- --------- --------- ------------------------------
@STARTCIRCLE()
; Sizes are in bytes (b), kilobytes (K), megabytes (M) or gigabytes (G).
; The bar is already as long as the used share; "*" prints it as it is, so
; the line ends with it instead of with padding blanks.
@DRIVE(RIGHT,4): @LABEL(LEFT,16)@TOTALSPACE(RIGHT,10)@FREESPACE(RIGHT,10) @STATLINE(LEFT,*)
@ENDCIRCLE()
----- ---------------- --------- --------- ------------------------------
