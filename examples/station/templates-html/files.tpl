; Files: for every link, in address order, the files its sessions received
; and sent in the period. The loop runs once per row, and a row is an alias
; row or a file row: a link's files are grouped under the FILE_ALIAS names of
; the configuration, each group opening with its alias row (the bytes, time
; and CPS of its files); the files of no alias come last, under an alias
; row "Other files" of their own.
; @ADDRESS shows only on a link's first row: the stylesheet draws the line
; between two links above the row whose link cell is not empty.
; @FILECPS cannot be the target of a condition: RATE wraps it.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%GROUPROW=" class='group'"
%NAME="<span class='file'>@FILENAME(LEFT,*)</span>"
%IN="<span class='tag in'>in</span>"
%OUT="<span class='tag out'>out</span>"
%PART="<abbr title='a part of the file: resumed or broken off'>*</abbr>"
%AB="<strong class='bad'>aborted</strong>"
%SK="skipped"
%RF="refused"
%DL="delayed"
%RATE="@FILECPS(LEFT,*)"
%TITLE="Files of @THISSTATION"
%SITE="@THISSTATION"
%OPERATOR="@THISSYSOP"
%PERIOD="@DAYFROM.@MONTHFROM.@YEARFROM @TIMEFROM &ndash; @DAYTILL.@MONTHTILL.@YEARTILL @TIMETILL"
%MADE="Zentrak @VERSION"
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>@TITLE(LEFT,*)</title>
<link rel="stylesheet" href="zentrak.css">
</head>
<body>
<header class="top">
<p class="site"><a href="index.html">@SITE(LEFT,*)</a></p>
<nav aria-label="Reports">
<ul>
<li><a href="index.html">Summary</a></li>
<li><a href="sessions.html">Sessions</a></li>
<li><a href="links.html">Links</a></li>
<li><a href="sysops.html">Sysops</a></li>
<li><a href="cps.html">Speed</a></li>
<li><a href="traffic.html">Traffic</a></li>
<li><a href="time.html">Online time</a></li>
<li><a href="mailers.html">Mailers</a></li>
<li><a href="files.html" aria-current="page">Files</a></li>
<li><a href="hist.html">Histogram</a></li>
<li><a href="graphic.html">Activity</a></li>
<li><a href="disk.html">Disks</a></li>
<li><a href="lastcall.html">Last calls</a></li>
<li><a href="trends.html">Trends</a></li>
<li><a href="failures.html">Failures</a></li>
</ul>
</nav>
</header>
<main>
<h1>Files</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<div class="scroll">
<table class="files">
<thead>
<tr><th scope="col">Link</th><th scope="col">File</th><th scope="col">Dir</th><th scope="col" class="num">Bytes</th><th scope="col" class="num">Started</th><th scope="col" class="num">Time</th><th scope="col" class="num">CPS</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr@?FILEALIAS=@GROUPROW(LEFT,*)><td class="link">@ADDRESS(LEFT,*)</td>
<td>@?FILEALIAS=@FILEALIAS(LEFT,*)@?FILENAME=@NAME(LEFT,*)</td>
<td>@?IN=@IN(LEFT,*)@?OUT=@OUT(LEFT,*)</td>
<td class="num">@FILESIZE(LEFT,*)@?ABORTED=@PART(LEFT,*)</td>
<td class="num">@FILESTARTTIME(LEFT,*)</td>
<td class="num">@?ISTIME=@FILETIME(LEFT,*)@?FILEABORTED=@AB(LEFT,*)@?FILESKIPPED=@SK(LEFT,*)@?FILEREFUSED=@RF(LEFT,*)@?FILEDELAYED=@DL(LEFT,*)</td>
<td class="num">@?ISTIME=@RATE(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
<tfoot>
<tr><th scope="row">@NUMBEROFLINKS(LEFT,*) links</th>
<td colspan="6">@NUMBEROFSESSIONS(LEFT,*) sessions, @TOTALRECEIVED(LEFT,*) bytes received, @TOTALSENT(LEFT,*) bytes sent</td></tr>
</tfoot>
</table>
</div>
<p class="note">Alias rows sum the bytes, time and speed of the files listed under them;
the files of no alias come last, under &ldquo;Other files&rdquo;. Bytes leave out a resumed part, and a file broken off
(*) counts up to where it stopped. The totals count every link and session of the period,
with files or not.</p>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
