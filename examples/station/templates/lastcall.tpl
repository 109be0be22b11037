; Last call report: every system this station has ever been in touch with,
; and when that was last, oldest first. The list is kept from run to run in
; the history file (HISTFILE, by default "lastcall.bin" beside the
; configuration; beside the program on Windows), so a system stays on it after
; its calls have left the log. @LASTDATE shows the day as "07 Dec 2026",
; @LASTTIME the time of day.
%TITLE="Last contact of @THISSTATION with each system"
%PERIOD="Brought up to date with the log of @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Address                 Date        Time
----------------------- ----------- --------
@STARTCIRCLE()
@ADDRESS(LEFT,23) @LASTDATE(LEFT,11) @LASTTIME(LEFT,8)
@ENDCIRCLE()
----------------------- ----------- --------
