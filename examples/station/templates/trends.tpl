; Trends report: what the trends store (TRENDS_DB) keeps from every run, so
; it reaches back past the log's window. The template has several loops; the
; definition TRENDLOOP before a loop chooses its rows:
;   DAYS n      the last n days up to the last day stored (30)
;   MONTHS n    the last n months (24)
;   YEARS       every year stored
;   TOPMONTH n  the n links with the most traffic in the last month (10)
;   TOPYEAR n   the same for the last year (10)
;   HOURS n     the last n hours up to the last one stored (24)
;   TOPDAYS n   the n days with the most traffic (10)
; A line with @?TRENDSTORED is dropped for a day or month with nothing stored;
; one with @?TRENDSEMPTY only comes when the store is empty. The text between
; two loops is written after the first one; the @TRENDTOTAL... values, the
; first and last day stored work everywhere.
%TITLE="Trends of @THISSTATION"
%NOTHING=""
@TITLE(LEFT,*)
Stored: @TRENDTOTALDAYS(LEFT,*) days, @TRENDFIRSTDAY(LEFT,*) - @TRENDLASTDAY(LEFT,*)
Nothing is stored yet.@?TRENDSEMPTY=@NOTHING(LEFT,*)

Last 24 hours
Day        Hour  Sessions        Received            Sent
%TRENDLOOP="HOURS 24"
@STARTCIRCLE()
@TRENDDATE(LEFT,10) @TRENDHOUR(LEFT,5) @TRENDSESSIONS(RIGHT,8) @TRENDRECEIVED(RIGHT,15) @TRENDSENT(RIGHT,15)@?TRENDSTORED=@NOTHING(LEFT,*)
@ENDCIRCLE()

Last 14 days
Day        Sessions        Received            Sent     CPS    Usage
%TRENDLOOP="DAYS 14"
@STARTCIRCLE()
@TRENDDATE(LEFT,10) @TRENDSESSIONS(RIGHT,8) @TRENDRECEIVED(RIGHT,15) @TRENDSENT(RIGHT,15) @TRENDCPS(RIGHT,7) @TRENDUSAGE(RIGHT,8)@?TRENDSTORED=@NOTHING(LEFT,*)
@ENDCIRCLE()

Months
Month      Sessions        Received            Sent     CPS    Usage Days
%TRENDLOOP="MONTHS 12"
@STARTCIRCLE()
@TRENDDATE(LEFT,10) @TRENDSESSIONS(RIGHT,8) @TRENDRECEIVED(RIGHT,15) @TRENDSENT(RIGHT,15) @TRENDCPS(RIGHT,7) @TRENDUSAGE(RIGHT,8) @TRENDDAYS(RIGHT,4)@?TRENDSTORED=@NOTHING(LEFT,*)
@ENDCIRCLE()

Years
Year       Sessions        Received            Sent     CPS    Usage Days
%TRENDLOOP="YEARS"
@STARTCIRCLE()
@TRENDDATE(LEFT,10) @TRENDSESSIONS(RIGHT,8) @TRENDRECEIVED(RIGHT,15) @TRENDSENT(RIGHT,15) @TRENDCPS(RIGHT,7) @TRENDUSAGE(RIGHT,8) @TRENDDAYS(RIGHT,4)
@ENDCIRCLE()

Busiest links of @TRENDLASTMONTH(LEFT,*)
 #  Address               Sessions         Traffic     CPS Online
%TRENDLOOP="TOPMONTH 10"
@STARTCIRCLE()
@TRENDRANK(RIGHT,2)  @TRENDADDRESS(LEFT,20) @TRENDSESSIONS(RIGHT,9) @TRENDTRAFFIC(RIGHT,15) @TRENDCPS(RIGHT,7) @TRENDONLINE(LEFT,*)
@ENDCIRCLE()

Busiest days
 #  Day        Sessions         Traffic    Usage
%TRENDLOOP="TOPDAYS 10"
@STARTCIRCLE()
@TRENDRANK(RIGHT,2)  @TRENDDATE(LEFT,10) @TRENDSESSIONS(RIGHT,8) @TRENDTRAFFIC(RIGHT,15) @TRENDUSAGE(RIGHT,8)
@ENDCIRCLE()
=======================================
 Links               @TRENDTOTALLINKS(RIGHT,18)
 Mailer sessions     @TRENDTOTALSESSIONS(RIGHT,18)
 Received            @TRENDTOTALRECEIVED(RIGHT,18)
 Sent                @TRENDTOTALSENT(RIGHT,18)
 Traffic             @TRENDTOTALTRAFFIC(RIGHT,18)
 Average CPS         @TRENDTOTALCPS(RIGHT,18)
 Station usage       @TRENDTOTALUSAGE(RIGHT,18)
=======================================
