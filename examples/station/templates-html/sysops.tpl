; Sysops: every remote system, ordered by its sysop's name. Phone and mailer
; are those the mailer logged for the link's first session.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%TITLE="Sysops calling @THISSTATION"
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
<li><a href="sysops.html" aria-current="page">Sysops</a></li>
<li><a href="cps.html">Speed</a></li>
<li><a href="traffic.html">Traffic</a></li>
<li><a href="time.html">Online time</a></li>
<li><a href="mailers.html">Mailers</a></li>
<li><a href="files.html">Files</a></li>
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
<h1>Sysops</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Sysop</th><th scope="col">Address</th><th scope="col">Phone</th><th scope="col">Mailer</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@SYSOP(LEFT,*)</td>
<td>@ADDRESS(LEFT,*)</td>
<td>@PHONE(LEFT,*)</td>
<td>@MAILER(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
<tfoot>
<tr><th scope="row">@NUMBEROFLINKS(LEFT,*) links</th><td colspan="3">@TOTALTRAFFIC(LEFT,*) bytes moved</td></tr>
</tfoot>
</table>
</div>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
