; Last call report: every system this station has ever been in touch with,
; and when that was last, oldest first. The list is kept from run to run in
; the history file (HISTFILE, "lastcall.bin" beside the program by default),
; so a system stays on it after its calls have left the log.
%TITLE="Last contact of @THISSTATION with each system"
@TITLE(LEFT,*)

Address                 Date        Time
----------------------- ----------- --------
@STARTCIRCLE()
@ADDRESS(LEFT,23) @LASTDATE(LEFT,11) @LASTTIME(LEFT,8)
@ENDCIRCLE()
----------------------- ----------- --------
