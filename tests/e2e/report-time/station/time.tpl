; Time report: the links ranked by the time spent online with them, longest
; first, each with a bar as long as its share of the longest one.
;
; LINELENGTH (required) is the longest bar; DRAWSYMBOL the bar's character.
; @LINKTIME shows hours:minutes:seconds; hours are not wrapped at 24.
%LINELENGTH="35"
%DRAWSYMBOL="*"
%TITLE="Online time of the links of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Address          Sysop               Online
---------------- ---------------- --------- -----------------------------------
@STARTCIRCLE()
@ADDRESS(LEFT,16) @SYSOP(LEFT,16) @LINKTIME(RIGHT,9) @STATLINE(LEFT,*)
@ENDCIRCLE()
-------------------------------------------------------------------------------
Time in mailer sessions: @TOTALSESSIONTIME(RIGHT,10)
  Time in BBS sessions:  @TOTALBBSTIME(RIGHT,10)
Time spent calling out:  @TOTALCALLINGTIME(RIGHT,10)
