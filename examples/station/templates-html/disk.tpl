; Disks: the drives named by DISKS in the configuration, each with its
; label, total and free space and a bar of the used share (LINELENGTH is
; the bar of a full drive). On Linux drive C is "/" and its label is the
; directory; ZENTRAK_DRIVE_D=/srv/files in the environment adds a drive D.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%LINELENGTH="40"
%DRAWSYMBOL="#"
%TITLE="Disk space of @THISSTATION"
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
<li><a href="files.html">Files</a></li>
<li><a href="hist.html">Histogram</a></li>
<li><a href="graphic.html">Activity</a></li>
<li><a href="disk.html" aria-current="page">Disks</a></li>
<li><a href="lastcall.html">Last calls</a></li>
<li><a href="trends.html">Trends</a></li>
<li><a href="failures.html">Failures</a></li>
</ul>
</nav>
</header>
<main>
<h1>Disks</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Drive</th><th scope="col">Label</th><th scope="col" class="num">Total</th><th scope="col" class="num">Free</th><th scope="col">Used</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@DRIVE(LEFT,*):</td>
<td>@LABEL(LEFT,*)</td>
<td class="num">@TOTALSPACE(LEFT,*)</td><td class="num">@FREESPACE(LEFT,*)</td>
<td class="bar"><span aria-hidden="true">@STATLINE(LEFT,*)</span></td></tr>
@ENDCIRCLE()
</tbody>
</table>
</div>
<p class="note">Sizes in bytes (b), kilobytes (K), megabytes (M) or gigabytes (G).</p>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
