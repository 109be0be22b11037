; Graphic report of a binkd station: the mailer station's, and below it when
; the sessions began. binkp sessions last minutes, so their share of time
; stays low on the chart; @HALFHOURSESSIONS and @HALFHOURBYTES give 48 cells,
; one per half hour from midnight, blank for none and 1 to 9 by the share of
; the busiest half hour, for the sessions that began in it and their bytes,
; summed over the days of the period. @BUSIESTHALFHOUR is the start of the
; half hour with the most sessions, @BUSIESTSESSIONS their number.
;
; The station's activity over the daily window GRAPHIC_TIME
; of the configuration (the whole day when it is not set), every day of the
; period drawn on the same chart. Time runs from left to right; each column
; is a stack of up to 15 rows, and a column whose time was fully used reaches
; the top. Outgoing sessions are stacked first, then incoming sessions, BBS
; calls and dialling time.
;
; LINELENGTH is required: the number of columns (1 to 72; more are cut to
; 72). BACKGROUND is the symbol of an empty cell; the four GRAPHIC...SYMBOL
; definitions choose the symbol of each kind of activity. Inside a
; definition, @GRAPHICSTARTTIME and @GRAPHICENDTIME give the window.
%LINELENGTH="72"
%BACKGROUND="."
%GRAPHICOUTSYMBOL="O"
%GRAPHICINSYMBOL="I"
%GRAPHICBBSSYMBOL="B"
%GRAPHICCALLSYMBOL="c"
%TITLE="Activity of @THISSTATION between @GRAPHICSTARTTIME and @GRAPHICENDTIME"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%FROM="@GRAPHICSTARTTIME"
%TILL="@GRAPHICENDTIME"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

@STARTCIRCLE()
; Written 15 times, top row first. @PROCENT labels rows 15, 10 and 5 with
; 100%, 60% and 30%, and is four blanks on the others.
@PROCENT(LEFT,4)|@STATLINE(LEFT,@LINELENGTH)
@ENDCIRCLE()
    +------------------------------------------------------------------------
     @FROM(LEFT,36)@TILL(RIGHT,36)

O outgoing session   I incoming session   B BBS call   c dialling, no connect

Sessions and bytes by the half hour they began in (busiest: @BUSIESTHALFHOUR(LEFT,5), @BUSIESTSESSIONS(LEFT,*) sessions)
          0     3     6     9     12    15    18    21
Sessions |@HALFHOURSESSIONS(LEFT,48)|
Bytes    |@HALFHOURBYTES(LEFT,48)|
