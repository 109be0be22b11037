; Takes the symbol left by the failed CPS report: it defines none itself.
%LINELENGTH="10"
Traffic
@STARTCIRCLE()
@ADDRESS(LEFT,14)@STATLINE(LEFT,*)
@ENDCIRCLE()
