; Sizes differ from machine to machine: only the drive and its label.
%LINELENGTH="10"
@STARTCIRCLE()
@DRIVE(LEFT,1): @LABEL(LEFT,*)
@ENDCIRCLE()
