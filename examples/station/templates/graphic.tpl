; Graphic report: the station's activity over the daily window GRAPHIC_TIME
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
; The window's ends stand below the chart: a whole day runs from 00:00:00
; to 00:00:00, which a title would read as no time at all.
%TITLE="Activity of @THISSTATION"
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
