; Every macro of the files report, one record in three lines and a fourth for
; the end of a link. The header does not know the report's own macros yet:
%IN="<-"
%OUT="->"
%GROUP="=="
%AB="aborted"
%SK="skipped"
%RF="refused"
%DL="delayed"
%T="time"
%NT="no time"
%PART="partial"
%WHOLE="whole"
%ALIASLINE="alias line"
%FILELINE="file line"
%PW="protected"
%ENDLINK="--- end of link"
%TITLE="Files of @THISSTATION"
@TITLE(LEFT,*); in the header @FILENAME(LEFT,*) and @FILESIZE(LEFT,*) stay.
@STARTCIRCLE()
[@ADDRESS(LEFT,*)] @?FILEALIAS=@ALIASLINE(LEFT,*)@?FILENAME=@FILELINE(LEFT,*) @?IN=@IN(LEFT,*)@?OUT=@OUT(LEFT,*)@?NOINOUT=@GROUP(LEFT,*) alias=@FILEALIAS(LEFT,*) name=@FILENAME(LEFT,*) size=@FILESIZE(LEFT,*) cps=@FILECPS(LEFT,*)
  start=@FILESTARTTIME(LEFT,*) end=@FILEENDTIME(LEFT,*) time=@FILETIME(LEFT,*) @?TIMENORMAL=@T(LEFT,*)@?NOTIME=@NT(LEFT,*) @?FILEABORTED=@AB(LEFT,*)@?FILESKIPPED=@SK(LEFT,*)@?FILEREFUSED=@RF(LEFT,*)@?FILEDELAYED=@DL(LEFT,*)
  @?ABORTED=@PART(LEFT,*)@?COMPLETE=@WHOLE(LEFT,*) @?ISTIME=@T(LEFT,*) @?TIMESPECIAL=@ALIASLINE(LEFT,*) link: @SYSOP(LEFT,*) rx=@RECEIVED(LEFT,*) tx=@SENT(LEFT,*) cps=@CPS(LEFT,*) @LINKTRAFFIC(LEFT,*) @LINKTIME(LEFT,*) @?PROTECTED=@PW(LEFT,*)
@?ENDFILES=@ENDLINK(LEFT,*)
@ENDCIRCLE()
links=@NUMBEROFLINKS(LEFT,*) sessions=@NUMBEROFSESSIONS(LEFT,*) rx=@TOTALRECEIVED(LEFT,*) tx=@TOTALSENT(LEFT,*)
after the loop: name=@FILENAME(LEFT,*) @?ENDFILES=@ENDLINK(LEFT,*)
