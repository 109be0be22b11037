; Sessions report of a binkd station: one line per binkp session of the
; period, in log order: sessions that ran at the same time are listed as
; they ended. The mailer station's sessions.tpl explains how a template
; works.
;
; binkd logs no connect speed and no modem protocol: @?BINKP holds for every
; session read from binkd's log. A session is Failed when binkd ended it
; with "failed" (a broken connection, a timeout, a busy remote); calls that
; never connected are not sessions: they count as dialling time.
%TITLE="binkp sessions of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%IN="In"
%OUT="Out"
%OK="Ok"
%FAIL="Failed"
%PW="*"
%NOPW=""
%BINKP="binkp"
%HIDDEN="Sessions that moved no bytes are not listed."
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Start    End      Dir Result Address            Received       Sent     CPS P Proto
-------- -------- --- ------ ---------------- ---------- ---------- ------- - -----
@STARTCIRCLE()
@STARTTIME(LEFT,8) @ENDTIME(LEFT,8) @?IN=@IN(LEFT,4)@?OUT=@OUT(LEFT,4)@NOEND()
@?COMPLETE=@OK(LEFT,7)@?ABORTED=@FAIL(LEFT,7)@ADDRESS(LEFT,16) @RECEIVED(RIGHT,10) @NOEND()
@SENT(RIGHT,10) @CPS(RIGHT,7) @?PROTECTED=@PW(LEFT,2)@?UNPROTECTED=@NOPW(LEFT,2)@?BINKP=@BINKP(LEFT,*)
@ENDCIRCLE()
----------------------------------------------------------------------------------
P: password-protected session.
@?HIDENULLSESSIONS=@HIDDEN(LEFT,*)
