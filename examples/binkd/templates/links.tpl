; Links report of a binkd station, the mailer station's with room for binkp
; speeds in the CPS column: every remote system of the period once, in
; address order, with its traffic, CPS and online time summed over all its
; sessions, and below it the link's sessions and calls.
;
; Definitions ("%") work above the loop only: inside it, a definition line is
; dropped like a comment. Below @ENDCIRCLE() every line is printed as written
; (";" lines too), so keep notes up here.
; A macro is written @NAME(ALIGN,WIDTH): ALIGN is LEFT, RIGHT or CENTER, WIDTH
; a number (the value is cut or padded to it) or "*" (the value as it is).
%TITLE="Links of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%PW=" *"
%OK="OK"
%FAILED="failed"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Address          Sysop                   Received        Sent     CPS    Online P
                 In:  ok fail  Calls: made conn   ok fail none  Last session
---------------- -------------------- ----------- ----------- ------- --------- -
@STARTCIRCLE()
; Every link has two lines. @LINKTIME is the time online with the link;
; @?PROTECTED=@PW(LEFT,2) prints the macro PW when the link's first session
; was password-protected and nothing otherwise. The second line: incoming
; sessions that ended well and that failed; calls made, the calls that
; connected, how those ended, and the calls that never connected; the end of
; the link's latest session and how it ended. A template line holds at most
; 255 characters: @NOEND() joins the next line to it.
@ADDRESS(LEFT,16) @SYSOP(LEFT,20) @RECEIVED(RIGHT,11) @SENT(RIGHT,11) @CPS(RIGHT,7) @LINKTIME(RIGHT,9)@?PROTECTED=@PW(LEFT,2)
                 In: @INOK(RIGHT,3) @INFAILED(RIGHT,4)  Calls: @CALLSMADE(RIGHT,4) @NOEND()
@CALLSCONNECTED(RIGHT,4) @CALLSOK(RIGHT,4) @CALLSFAILED(RIGHT,4) @CALLSNOCONNECT(RIGHT,4)  @NOEND()
@LASTSESSIONDATE(LEFT,10) @LASTSESSIONTIME(LEFT,8) @?LASTOK=@OK(LEFT,*)@?LASTFAILED=@FAILED(LEFT,*)
@ENDCIRCLE()
---------------------------------------------------------------------------------
Links: @NUMBEROFLINKS(LEFT,6)                   Received: @TOTALRECEIVED(RIGHT,15) bytes
Sessions: @NUMBEROFSESSIONS(LEFT,6)                   Sent: @TOTALSENT(RIGHT,15) bytes
Average CPS: @TOTALCPS(LEFT,6)                  Total: @TOTALTRAFFIC(RIGHT,15) bytes
Time in sessions: @TOTALSESSIONTIME(LEFT,*)
Failed sessions: @FAILEDSESSIONS(LEFT,*)   Calls that never connected: @FAILEDCALLS(LEFT,*)
Sessions without a password: @UNPROTECTEDSESSIONS(LEFT,*)   without an address: @NOADDRESSSESSIONS(LEFT,*)
