; The total cps is capped like the cps of every link and session.
%LINELENGTH="10"
%DRAWSYMBOL="="
@STARTCIRCLE()
@ADDRESS(LEFT,12) @LINKTRAFFIC(RIGHT,14) @CPS(RIGHT,5) @STATLINE(LEFT,*)
@ENDCIRCLE()
Total: @TOTALTRAFFIC(RIGHT,14) bytes at @TOTALCPS(LEFT,*) cps
