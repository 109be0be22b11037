; Histogram: when each link was on line. Every link gets a row of cells
; spread over the whole period, oldest on the left: "#" where the link had a
; mailer session, the BACKGROUND symbol where it had none, and "|" at round
; times when DRAW_HISTOGRAM_VERTICAL_LINES is on. LINELENGTH (required) is
; the number of cells. ALLROW is written when MAKE_HIST_FOR_ALL is on; the
; report fills @TOTALHISTLINE itself, after these definitions are read.
;
; This binkd station's page adds "@CHART(SESSIONS)" and "@CHART(BYTES)":
; the sessions, and their bytes, by the half hour of the day they began in,
; summed over the days (binkp sessions are too short for shares of time).
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%LINELENGTH="48"
%BACKGROUND="."
%FROM="@DAYFROM.@MONTHFROM @TIMEFROM"
%TILL="@DAYTILL.@MONTHTILL @TIMETILL"
%ALLROW="<tr><th scope='row'>All links</th><td class='cells'>@TOTALHISTLINE(LEFT,*)</td><td class='num'>@TOTALSESSIONTIME(LEFT,*)</td></tr>"
%TITLE="When the links of @THISSTATION were on line"
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
<li><a href="hist.html" aria-current="page">Histogram</a></li>
<li><a href="graphic.html">Activity</a></li>
<li><a href="disk.html">Disks</a></li>
<li><a href="lastcall.html">Last calls</a></li>
<li><a href="trends.html">Trends</a></li>
<li><a href="failures.html">Failures</a></li>
</ul>
</nav>
</header>
<main>
<h1>Histogram</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<figure class="plot">
@CHART(SESSIONS)
</figure>
<figure class="plot">
@CHART(BYTES)
</figure>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Address</th><th scope="col" class="span"><span>@FROM(LEFT,*)</span> <span>@TILL(LEFT,*)</span></th><th scope="col" class="num">On line</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
; In the loop, @TOTALSESSIONTIME is the time of the link's own sessions.
<tr><td>@ADDRESS(LEFT,*)</td><td class="cells">@STATLINE(LEFT,@LINELENGTH)</td><td class="num">@TOTALSESSIONTIME(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
<tfoot>
@?MAKEHISTFORALL=@ALLROW(LEFT,*)
<tr><th scope="row">@NUMBEROFLINKS(LEFT,*) links</th><td>@NUMBEROFSESSIONS(LEFT,*) sessions</td><td class="num">@TOTALSESSIONTIME(LEFT,*)</td></tr>
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
