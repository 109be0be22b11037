; One line per session: start, end, address, bytes received and sent, and how
; it ended; nothing else, so that lists of several runs can be compared.
%OK="ok"
%FAIL="aborted"
@STARTCIRCLE()
@STARTTIME(LEFT,8) @ENDTIME(LEFT,8) @ADDRESS(LEFT,*) @RECEIVED(LEFT,*) @SENT(LEFT,*) @?COMPLETE=@OK(LEFT,*)@?ABORTED=@FAIL(LEFT,*)
@ENDCIRCLE()
