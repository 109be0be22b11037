; Activity: the station's activity over the daily window GRAPHIC_TIME (the
; whole day when it is not set), every day of the period on one chart. Time
; runs from left to right; each column is a stack of up to 15 rows, full
; when the time was fully used. LINELENGTH (required) is the number of
; columns (at most 72); BACKGROUND and the four GRAPHIC...SYMBOL definitions
; choose the symbols. zentrak.css draws the grid behind the cells. Above the
; characters, "@CHART(ACTIVITY)" on a line of its own draws the same activity
; as an SVG chart in half hours (outgoing, incoming, BBS, dialling stacked).
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
%LINELENGTH="72"
%BACKGROUND=" "
%GRAPHICOUTSYMBOL="O"
%GRAPHICINSYMBOL="I"
%GRAPHICBBSSYMBOL="B"
%GRAPHICCALLSYMBOL="c"
%FROM="@GRAPHICSTARTTIME"
%TILL="@GRAPHICENDTIME"
%TITLE="Activity of @THISSTATION"
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
<li><a href="graphic.html" aria-current="page">Activity</a></li>
<li><a href="disk.html">Disks</a></li>
<li><a href="lastcall.html">Last calls</a></li>
<li><a href="trends.html">Trends</a></li>
<li><a href="failures.html">Failures</a></li>
</ul>
</nav>
</header>
<main>
<h1>Activity</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<figure class="plot">
@CHART(SESSIONS)
</figure>
<figure class="plot">
@CHART(BYTES)
</figure>
<figure class="plot">
@CHART(ACTIVITY)
</figure>
<figure class="graphic">
<pre>
@STARTCIRCLE()
; Written 15 times, top row first; @PROCENT labels rows 15, 10 and 5.
<span class="scale">@PROCENT(LEFT,4)</span>|<span class="cells">@STATLINE(LEFT,@LINELENGTH)</span>
@ENDCIRCLE()
    +------------------------------------------------------------------------
     @FROM(LEFT,36)@TILL(RIGHT,36)</pre>
<figcaption>
<span class="key"><b>O</b> outgoing session</span>
<span class="key"><b>I</b> incoming session</span>
<span class="key"><b>B</b> BBS call</span>
<span class="key"><b>c</b> dialling, no connect</span>
</figcaption>
</figure>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
