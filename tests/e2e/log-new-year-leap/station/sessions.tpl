; Sessions of last year seen from 3 January of a leap year: last year had
; no leap day, so its days must not be moved by one.
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%IN="In"
%OUT="Out"
@PERIOD(LEFT,*)
Start    End      Dir Address          Received
@STARTCIRCLE()
@STARTTIME(LEFT,8) @ENDTIME(LEFT,8) @?IN=@IN(LEFT,4)@?OUT=@OUT(LEFT,4)@ADDRESS(LEFT,16) @RECEIVED(RIGHT,8)
@ENDCIRCLE()
