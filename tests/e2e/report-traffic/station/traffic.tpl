; Traffic report: the links ranked by the bytes received and sent, busiest
; first, each with a bar as long as its share of the busiest one.
;
; LINELENGTH (required) is the longest bar; DRAWSYMBOL the bar's character.
; @LINKTRAFFIC is the link's received plus sent bytes, with "," between
; thousands.
%LINELENGTH="30"
%DRAWSYMBOL="="
%TITLE="Traffic of the links of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Address          Sysop             Traffic, bytes
---------------- ---------------- -------------- ------------------------------
@STARTCIRCLE()
@ADDRESS(LEFT,16) @SYSOP(LEFT,16) @LINKTRAFFIC(RIGHT,14) @STATLINE(LEFT,*)
@ENDCIRCLE()
-------------------------------------------------------------------------------
Received: @TOTALRECEIVED(RIGHT,15) bytes
    Sent: @TOTALSENT(RIGHT,15) bytes
   Total: @TOTALTRAFFIC(RIGHT,15) bytes with @NUMBEROFLINKS(LEFT,*) links
