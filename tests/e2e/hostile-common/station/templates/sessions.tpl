; Sessions report: one line per mailer session of the period, in log order.
;
; How a template works:
; - Lines starting with ";" are comments, but only above @STARTCIRCLE() and
;   between the loop markers. Below the loop every line is printed.
; - A line starting with "%" defines a macro: %NAME="value". Use it later as
;   @NAME(LEFT,10): the value cut and padded to 10 characters. LEFT, RIGHT and
;   CENTER align it; the width "*" prints the value as it is.
; - Inside a definition a few names may be written bare: @THISSTATION,
;   @THISSYSOP, @VERSION and the period @DAYFROM, @MONTHFROM, @YEARFROM,
;   @TIMEFROM, @DAYTILL, @MONTHTILL, @YEARTILL, @TIMETILL.
%TITLE="Sessions of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
; Texts for the conditions of the loop below. @?IN=@IN(LEFT,4) prints the
; macro IN in four characters when the session was incoming, and nothing
; otherwise, so each pair of opposite conditions fills the same width.
%IN="In"
%OUT="Out"
%OK="Ok"
%FAIL="Abort"
%PW="*"
%NOPW=""
%ZMODEM="ZModem"
%HYDRA="Hydra"
%ZEDZAP="ZedZap"
%DIRZAP="DirZap"
%HIDDEN="Sessions that moved no bytes are not listed."
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Start    Dir Result  Speed Address            Received       Sent  CPS P Proto
-------- --- ------ ------ ---------------- ---------- ---------- ---- - ------
; Everything up to the next marker is written once per session. A line may
; hold up to 255 characters; @NOEND() at its end joins it to the next one.
@STARTCIRCLE()
@STARTTIME(LEFT,8) @?IN=@IN(LEFT,4)@?OUT=@OUT(LEFT,4)@?COMPLETE=@OK(LEFT,7)@?ABORTED=@FAIL(LEFT,7)@NOEND()
@CONNECT(RIGHT,6) @ADDRESS(LEFT,16) @RECEIVED(RIGHT,10) @SENT(RIGHT,10) @CPS(RIGHT,4) @NOEND()
@?PROTECTED=@PW(LEFT,2)@?UNPROTECTED=@NOPW(LEFT,2)@?ZMODEM=@ZMODEM(LEFT,*)@?HYDRA=@HYDRA(LEFT,*)@?ZEDZAP=@ZEDZAP(LEFT,*)@?DIRZAP=@DIRZAP(LEFT,*)
@ENDCIRCLE()
-------------------------------------------------------------------------------
P: password-protected session.
@?HIDENULLSESSIONS=@HIDDEN(LEFT,*)
