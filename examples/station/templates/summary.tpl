; Summary report: one page of totals for the whole period. It lists no
; records: everything below the loop markers is written once, and that is
; where the totals can be used (they are empty above the markers).
;
; @STATIONUSAGE is the share of the period in which the line was busy
; (sessions, dialling and unfinished sessions), a second counted once however
; many sessions ran in it; @STATIONUSAGESUM adds up the sessions' times
; instead, so parallel binkp sessions can take it past 100%. @BBSUSAGE the
; share taken by BBS calls. A line holding the condition @?BBSUSED is dropped
; when there was no BBS call; here it names the empty macro NOTHING, so it
; adds no text.
%TITLE="Summary of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%NOTHING=""
@TITLE(LEFT,*)
@PERIOD(LEFT,*)
@STARTCIRCLE()
@ENDCIRCLE()
=======================================
 Links               @NUMBEROFLINKS(RIGHT,18)
 Mailer sessions     @NUMBEROFSESSIONS(RIGHT,18)
 Received            @TOTALRECEIVED(RIGHT,18)
 Sent                @TOTALSENT(RIGHT,18)
 Traffic             @TOTALTRAFFIC(RIGHT,18)
 Average CPS         @TOTALCPS(RIGHT,18)
---------------------------------------
 Session time        @TOTALSESSIONTIME(RIGHT,18)
 Dialling time       @TOTALCALLINGTIME(RIGHT,18)
 BBS time            @TOTALBBSTIME(RIGHT,18)@?BBSUSED=@NOTHING(LEFT,*)
 Unfinished sessions @LEFTTIME(RIGHT,18)
 Busy in all         @TOTALTIME(RIGHT,18)
---------------------------------------
 Station usage       @STATIONUSAGE(RIGHT,18)
 BBS usage           @BBSUSAGE(RIGHT,18)@?BBSUSED=@NOTHING(LEFT,*)
 Usage, summed       @STATIONUSAGESUM(RIGHT,18)
---------------------------------------
 Failed sessions     @FAILEDSESSIONS(RIGHT,18)
 Calls not connected @FAILEDCALLS(RIGHT,18)
 Without a password  @UNPROTECTEDSESSIONS(RIGHT,18)
 Without an address  @NOADDRESSSESSIONS(RIGHT,18)
=======================================
