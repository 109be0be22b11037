; Histogram report of a binkd station: the mailer station's, and below it
; the sessions and their bytes by the half hour of the day they began in
; (see graphic.tpl of this station for @HALFHOURSESSIONS and @HALFHOURBYTES).
;
; When each link was on line. Every link gets one row of
; cells spread evenly over the whole report period, oldest on the left. A cell
; shows "#" when the link had a mailer session (not a BBS call) at that time,
; the BACKGROUND symbol when it had none, and "|" as a guide mark at round
; times (every 1, 2, 3, 6 or 12 hours, or 1, 2, 7, 14 or 28 days: the first
; that keeps six cells between two marks) when DRAW_HISTOGRAM_VERTICAL_LINES
; is on in the configuration. The links are listed by address.
;
; LINELENGTH is required: the number of cells in a row (1 to 255). Without it
; the report is not written. BACKGROUND is the empty cell's symbol; a
; DRAWSYMBOL definition would replace "#" as the mark.
%LINELENGTH="48"
%BACKGROUND="."
%TITLE="When the links of @THISSTATION were on line"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%FROM="@DAYFROM.@MONTHFROM @TIMEFROM"
%TILL="@DAYTILL.@MONTHTILL @TIMETILL"
%ALL="All links"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

                 @FROM(LEFT,24)@TILL(RIGHT,24)
Address          Sessions                                         On line
---------------- ------------------------------------------------ --------
@STARTCIRCLE()
; @STATLINE is the link's row; @LINELENGTH inside its field stands for the
; number of cells. In the loop, @TOTALSESSIONTIME is the time the link's
; sessions took inside the period.
@ADDRESS(LEFT,16) @STATLINE(LEFT,@LINELENGTH) @TOTALSESSIONTIME(RIGHT,8)
@ENDCIRCLE()
---------------- ------------------------------------------------ --------
@?MAKEHISTFORALL=@ALL(LEFT,17)@?MAKEHISTFORALL=@TOTALHISTLINE(LEFT,*)
Links: @NUMBEROFLINKS(LEFT,*)   Sessions: @NUMBEROFSESSIONS(LEFT,*)   Session time: @TOTALSESSIONTIME(LEFT,*)

Sessions and bytes by the half hour they began in (busiest: @BUSIESTHALFHOUR(LEFT,5), @BUSIESTSESSIONS(LEFT,*) sessions)
                  0     3     6     9     12    15    18    21
Sessions         |@HALFHOURSESSIONS(LEFT,48)|
Bytes            |@HALFHOURBYTES(LEFT,48)|
