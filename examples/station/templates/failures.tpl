; Failures report: why sessions and calls failed, per link and reason, in
; address order; sessions that never gave an address come last, with
; "(none)" as their address (@?FAILNOADDRESS holds on that row).
; A reason is one of: connection refused, timed out, no route, busy,
; incorrect password, not from an allowed address, remote error (with the
; remote's own text), broken off, other (with the text the log gave, cut to
; 60 characters). @FAILSESSIONS counts failed sessions, @FAILCALLS calls
; that never connected, @FAILCOUNT both; @FAILLASTDATE and @FAILLASTTIME
; date the latest of them. @?FAILCLAIMED holds when the address is only
; what the remote claimed (a wrong password, a host the address is not
; allowed from); @?FAILNEWADDRESS on the first row of each address.
%TITLE="Failed sessions and calls of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%CLAIMED="claimed: "
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Address          Reason                      Sess Calls Last                Text
---------------- --------------------------- ---- ----- ------------------- -------------
@STARTCIRCLE()
@FAILADDRESS(LEFT,16) @FAILREASON(LEFT,27) @FAILSESSIONS(RIGHT,4) @FAILCALLS(RIGHT,5) @FAILLASTDATE(LEFT,10) @FAILLASTTIME(LEFT,8) @?FAILCLAIMED=@CLAIMED(LEFT,*)@FAILTEXT(LEFT,*)
@ENDCIRCLE()
----------------------------------------------------------------------------------------
Failed sessions: @FAILEDSESSIONS(LEFT,*)   Calls that never connected: @FAILEDCALLS(LEFT,*)
Sessions without an address: @NOADDRESSSESSIONS(LEFT,*)
