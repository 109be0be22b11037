; Online time: the links ranked by the time spent on line with them,
; longest first, each with a bar as long as its share of the longest one.
; The bar is @STATLINE: as many DRAWSYMBOL characters as the link's share
; of LINELENGTH. zentrak.css turns those characters into a solid bar (they
; stay readable in a text browser); LINELENGTH is required.
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
%TITLE="Online time of the links of @THISSTATION"
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
<li><a href="time.html" aria-current="page">Online time</a></li>
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
<h1>Online time</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Address</th><th scope="col">Sysop</th><th scope="col" class="num">Online</th><th scope="col"><span class="visually-hidden">Share</span></th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@ADDRESS(LEFT,*)</td>
<td>@SYSOP(LEFT,*)</td>
<td class="num">@LINKTIME(LEFT,*)</td>
<td class="bar"><span aria-hidden="true">@STATLINE(LEFT,*)</span></td></tr>
@ENDCIRCLE()
</tbody>
<tfoot>
<tr><th scope="row">Mailer sessions</th><td></td><td class="num">@TOTALSESSIONTIME(LEFT,*)</td><td></td></tr>
<tr><th scope="row">BBS sessions</th><td></td><td class="num">@TOTALBBSTIME(LEFT,*)</td><td></td></tr>
<tr><th scope="row">Calling out</th><td></td><td class="num">@TOTALCALLINGTIME(LEFT,*)</td><td></td></tr>
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
