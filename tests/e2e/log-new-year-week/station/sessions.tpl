; Sessions of the last week, made on 2 January: the days of December belong
; to last year and must count as plain days.
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%IN="In"
%OUT="Out"
@PERIOD(LEFT,*)
Start    End      Dir Address          Received
@STARTCIRCLE()
@STARTTIME(LEFT,8) @ENDTIME(LEFT,8) @?IN=@IN(LEFT,4)@?OUT=@OUT(LEFT,4)@ADDRESS(LEFT,16) @RECEIVED(RIGHT,8)
@ENDCIRCLE()
