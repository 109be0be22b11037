; CPS report: the links ranked by their average transfer speed, fastest
; first, each with a bar as long as its share of the fastest one.
;
; LINELENGTH is required here: the length of the fastest link's bar (1 to
; 255). Without it the report is not written. DRAWSYMBOL is the bar's
; character; without it the bars are blanks. Both are definitions only:
; they print nothing themselves.
%LINELENGTH="35"
%DRAWSYMBOL="#"
%TITLE="Transfer speed of the links of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Address          Sysop                  CPS
---------------- ------------------ ------- -----------------------------------
@STARTCIRCLE()
; @STATLINE is the bar, already as long as it should be, so "*" prints it as
; it is; @STATLINE(LEFT,@LINELENGTH) would pad it to the full length. A link
; whose bar would be shorter than half a symbol is left out.
@ADDRESS(LEFT,16) @SYSOP(LEFT,18) @CPS(RIGHT,7) @STATLINE(LEFT,*)
@ENDCIRCLE()
-------------------------------------------------------------------------------
Links: @NUMBEROFLINKS(LEFT,*)    Average CPS of the period: @TOTALCPS(LEFT,*)
