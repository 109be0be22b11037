; A bar report without a line length is not written.
%DRAWSYMBOL="#"
@STARTCIRCLE()
@ADDRESS(LEFT,*) @STATLINE(LEFT,*)
@ENDCIRCLE()
