; Mailers report: which mailer software the remote sysops run. Each sysop
; counts once, under the mailer of his last link in sysop order.
;
; This template has two loops. The first lists mailers by name and version
; (the text after a "/" or "\", often the operating system, is dropped); the
; second lists products, the first word of the name, with their versions
; added up. The lines between the two loops are printed once, in between.
; A product name is cut at its first blank, whatever the words after it:
; "Mr. Fixit 1.2" counts as "Mr.". The one exception is a name whose first
; word is "The", which counts as "The Brake!".
;
; @MAILERSNUMBER is the number of sysops, @MAILERSPROCENT their share
; (it begins with four blanks). @MOSTPOPULAR is the top entry of the list at
; the moment it is printed: empty above the first loop, the top version
; between the loops, the top product below the second loop.
; @DIFFERENTMAILERS is the number of products, known only after the second
; loop.
%TITLE="Mailers of the links of @THISSTATION"
%PERIOD="Period: @DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM - @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
@TITLE(LEFT,*)
@PERIOD(LEFT,*)

Mailer and version                                           Sysops       Share
------------------------------------------------------------ ------ -----------
@STARTCIRCLE()
@MAILER(LEFT,60) @MAILERSNUMBER(RIGHT,6) @MAILERSPROCENT(RIGHT,11)
@ENDCIRCLE()
; From here to the second loop: printed once, after the first list.

Most popular version: @MOSTPOPULAR(LEFT,*)

Product                                                      Sysops       Share
------------------------------------------------------------ ------ -----------
@STARTCIRCLE()
@MAILER(LEFT,60) @MAILERSNUMBER(RIGHT,6) @MAILERSPROCENT(RIGHT,11)
@ENDCIRCLE()
-------------------------------------------------------------------------------
Different products: @DIFFERENTMAILERS(LEFT,*)    Most popular: @MOSTPOPULAR(LEFT,*)
