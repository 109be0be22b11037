; Sysops report: every remote system, ordered by its sysop's name (upper case
; before lower case, as the bytes compare). The order stays for the reports
; that run after this one.
;
; Phone and sysop are those the mailer logged for the link's first session.
; A macro is written @NAME(ALIGN,WIDTH); a value longer than WIDTH is cut.
%TITLE="Sysops calling @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Sysop                  Address          Phone              Mailer
---------------------- ---------------- ------------------ --------------------
@STARTCIRCLE()
@SYSOP(LEFT,22) @ADDRESS(LEFT,16) @PHONE(LEFT,18) @MAILER(LEFT,20)
@ENDCIRCLE()
-------------------------------------------------------------------------------
Links: @NUMBEROFLINKS(LEFT,*)    Traffic: @TOTALTRAFFIC(LEFT,*) bytes
