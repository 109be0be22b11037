Mailers
@STARTCIRCLE()
@MAILER(LEFT,20)@MAILERSNUMBER(RIGHT,3)
@ENDCIRCLE()
No second loop: this line is written, the last one too.
Last line
