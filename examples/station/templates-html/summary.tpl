; Summary, written as index.html: the entry page of the set. It lists no
; records, so everything is below the loop markers, where the totals work.
; A line holding @?BBSUSED is left out when there was no BBS call.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%NOTHING=""
%TITLE="Statistics of @THISSTATION"
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
<li><a href="index.html" aria-current="page">Summary</a></li>
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
<li><a href="disk.html">Disks</a></li>
<li><a href="lastcall.html">Last calls</a></li>
<li><a href="trends.html">Trends</a></li>
<li><a href="failures.html">Failures</a></li>
</ul>
</nav>
</header>
<main>
<h1>@SITE(LEFT,*)</h1>
<p class="period">@PERIOD(LEFT,*)</p>
@STARTCIRCLE()
@ENDCIRCLE()
<section aria-labelledby="totals">
<h2 id="totals">Totals</h2>
<div class="cards">
<dl><dt>Links</dt><dd>@NUMBEROFLINKS(LEFT,*)</dd></dl>
<dl><dt>Mailer sessions</dt><dd>@NUMBEROFSESSIONS(LEFT,*)</dd></dl>
<dl><dt>Traffic</dt><dd>@TOTALTRAFFIC(LEFT,*) <small>bytes</small></dd></dl>
<dl><dt>Received</dt><dd>@TOTALRECEIVED(LEFT,*) <small>bytes</small></dd></dl>
<dl><dt>Sent</dt><dd>@TOTALSENT(LEFT,*) <small>bytes</small></dd></dl>
<dl><dt>Average speed</dt><dd>@TOTALCPS(LEFT,*) <small>cps</small></dd></dl>
<dl><dt>Station usage</dt><dd>@STATIONUSAGE(LEFT,*)</dd></dl>
<dl><dt>BBS usage</dt><dd>@BBSUSAGE(LEFT,*)</dd></dl>@?BBSUSED=@NOTHING(LEFT,*)
<dl><dt>Failed sessions</dt><dd><a href="failures.html">@FAILEDSESSIONS(LEFT,*)</a></dd></dl>
<dl><dt>Calls never connected</dt><dd><a href="failures.html">@FAILEDCALLS(LEFT,*)</a></dd></dl>
<dl><dt>Without a password</dt><dd>@UNPROTECTEDSESSIONS(LEFT,*) <small>sessions</small></dd></dl>
<dl><dt>Without an address</dt><dd>@NOADDRESSSESSIONS(LEFT,*) <small>sessions</small></dd></dl>
</div>
</section>
<section aria-labelledby="busy">
<h2 id="busy">Where the time went</h2>
<div class="scroll fit">
<table class="narrow">
<tbody>
<tr><th scope="row">Mailer sessions</th><td class="num">@TOTALSESSIONTIME(LEFT,*)</td></tr>
<tr><th scope="row">Dialling out</th><td class="num">@TOTALCALLINGTIME(LEFT,*)</td></tr>
<tr><th scope="row">BBS calls</th><td class="num">@TOTALBBSTIME(LEFT,*)</td></tr>@?BBSUSED=@NOTHING(LEFT,*)
<tr><th scope="row">Unfinished sessions</th><td class="num">@LEFTTIME(LEFT,*)</td></tr>
</tbody>
<tfoot>
<tr><th scope="row">Busy in all</th><td class="num">@TOTALTIME(LEFT,*)</td></tr>
</tfoot>
</table>
</div>
</section>
<section aria-labelledby="reports">
<h2 id="reports">Reports</h2>
<ul class="reports">
<li><a href="sessions.html">Sessions</a> every mailer session, in the order of the log</li>
<li><a href="links.html">Links</a> every remote system with its traffic and time</li>
<li><a href="sysops.html">Sysops</a> who called, with phone and mailer</li>
<li><a href="cps.html">Speed</a> the links ranked by their transfer speed</li>
<li><a href="traffic.html">Traffic</a> the links ranked by bytes moved</li>
<li><a href="time.html">Online time</a> the links ranked by time on line</li>
<li><a href="mailers.html">Mailers</a> the software the remote systems run</li>
<li><a href="files.html">Files</a> the files each link received and sent</li>
<li><a href="hist.html">Histogram</a> when each link was on line</li>
<li><a href="graphic.html">Activity</a> how busy the line was over the day</li>
<li><a href="disk.html">Disks</a> space on the station's drives</li>
<li><a href="lastcall.html">Last calls</a> the last contact with every system</li>
<li><a href="trends.html">Trends</a> days, months and years kept across runs, with charts</li>
<li><a href="failures.html">Failures</a> why sessions and calls failed, per link</li>
</ul>
</section>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
