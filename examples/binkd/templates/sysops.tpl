; Sysops report of a binkd station: every remote system, ordered by its
; sysop's name, on two lines. The host is the name or IP binkd logged for
; the link's first session (@PHONE); sysop, system, location and mailer are
; what the remote sent as ZYZ, SYS, LOC and VER.
%TITLE="Sysops calling @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Sysop                  Address          Host
  System                       Location       Mailer
---------------------- ---------------- ---------------------------------------
@STARTCIRCLE()
@SYSOP(LEFT,22) @ADDRESS(LEFT,16) @PHONE(LEFT,39)
  @SYSTEM(LEFT,28) @LOCATION(LEFT,14) @MAILER(LEFT,33)
@ENDCIRCLE()
-------------------------------------------------------------------------------
Links: @NUMBEROFLINKS(LEFT,*)    Traffic: @TOTALTRAFFIC(LEFT,*) bytes
