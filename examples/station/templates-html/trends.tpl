; Trends: what the trends store (TRENDS_DB) keeps from every run, reaching
; back past the log's window. The page has several loops, each chosen by the
; definition TRENDLOOP above it (DAYS n, MONTHS n, YEARS, TOPMONTH n,
; TOPYEAR n). A line "@CHART(NAME)" on its own is replaced by a chart drawn
; as SVG (DAYS: the last 30 days, MONTHS: the last 24 months, TOPMONTH: the
; busiest links of the last month, ACTIVITY: the activity over the day); its
; colours come from zentrak.css. A line with @?TRENDSTORED is dropped for a
; day or month with nothing stored.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%NOTHING=""
%TITLE="Trends of @THISSTATION"
%SITE="@THISSTATION"
%OPERATOR="@THISSYSOP"
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
<li><a href="disk.html">Disks</a></li>
<li><a href="lastcall.html">Last calls</a></li>
<li><a href="trends.html" aria-current="page">Trends</a></li>
<li><a href="failures.html">Failures</a></li>
</ul>
</nav>
</header>
<main>
<h1>Trends</h1>
<p class="period">@TRENDTOTALDAYS(LEFT,*) days stored, @TRENDFIRSTDAY(LEFT,*) &ndash; @TRENDLASTDAY(LEFT,*)</p>
<p class="note">Nothing is stored yet: the store fills with every run.</p>@?TRENDSEMPTY=@NOTHING(LEFT,*)
<section aria-labelledby="totals">
<h2 id="totals">Everything stored</h2>
<div class="cards">
<dl><dt>Links</dt><dd>@TRENDTOTALLINKS(LEFT,*)</dd></dl>
<dl><dt>Mailer sessions</dt><dd>@TRENDTOTALSESSIONS(LEFT,*)</dd></dl>
<dl><dt>Traffic</dt><dd>@TRENDTOTALTRAFFICSHORT(LEFT,*)</dd></dl>
<dl><dt>Received</dt><dd>@TRENDTOTALRECEIVEDSHORT(LEFT,*)</dd></dl>
<dl><dt>Sent</dt><dd>@TRENDTOTALSENTSHORT(LEFT,*)</dd></dl>
<dl><dt>Average speed</dt><dd>@TRENDTOTALCPS(LEFT,*) <small>cps</small></dd></dl>
<dl><dt>Station usage</dt><dd>@TRENDTOTALUSAGE(LEFT,*)</dd></dl>
</div>
</section>
<section aria-labelledby="hours">
<h2 id="hours">Last 24 hours</h2>
<figure class="plot">
@CHART(HOURS)
</figure>
<div class="scroll fit">
<table class="narrow">
<thead>
<tr><th scope="col">Day</th>
<th scope="col">Hour</th>
<th scope="col" class="num">Sessions</th>
<th scope="col" class="num">Received</th>
<th scope="col" class="num">Sent</th></tr>
</thead>
<tbody>
%TRENDLOOP="HOURS 24"
@STARTCIRCLE()
<tr><td>@TRENDDATE(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<th scope="row">@TRENDHOUR(LEFT,*)</th>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDSESSIONS(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDRECEIVED(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDSENT(LEFT,*)</td></tr>@?TRENDSTORED=@NOTHING(LEFT,*)
@ENDCIRCLE()
</tbody>
</table>
</div>
</section>
<section aria-labelledby="days">
<h2 id="days">Last 30 days</h2>
<figure class="plot">
@CHART(DAYS)
</figure>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Day</th>
<th scope="col" class="num">Sessions</th>
<th scope="col" class="num">Received</th>
<th scope="col" class="num">Sent</th>
<th scope="col" class="num">CPS</th>
<th scope="col" class="num">Usage</th></tr>
</thead>
<tbody>
%TRENDLOOP="DAYS 30"
@STARTCIRCLE()
<tr><th scope="row">@TRENDDATE(LEFT,*)</th>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDSESSIONS(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDRECEIVED(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDSENT(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDCPS(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDUSAGE(LEFT,*)</td></tr>@?TRENDSTORED=@NOTHING(LEFT,*)
@ENDCIRCLE()
</tbody>
</table>
</div>
</section>
<section aria-labelledby="months">
<h2 id="months">Last 24 months</h2>
<figure class="plot">
@CHART(MONTHS)
</figure>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Month</th>
<th scope="col" class="num">Days</th>
<th scope="col" class="num">Sessions</th>
<th scope="col" class="num">Received</th>
<th scope="col" class="num">Sent</th>
<th scope="col" class="num">CPS</th>
<th scope="col" class="num">Usage</th></tr>
</thead>
<tbody>
%TRENDLOOP="MONTHS 24"
@STARTCIRCLE()
<tr><th scope="row">@TRENDDATE(LEFT,*)</th>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDDAYS(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDSESSIONS(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDRECEIVED(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDSENT(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDCPS(LEFT,*)</td>@?TRENDSTORED=@NOTHING(LEFT,*)
<td class="num">@TRENDUSAGE(LEFT,*)</td></tr>@?TRENDSTORED=@NOTHING(LEFT,*)
@ENDCIRCLE()
</tbody>
</table>
</div>
</section>
<section aria-labelledby="years">
<h2 id="years">Years</h2>
<div class="scroll fit">
<table class="narrow">
<thead>
<tr><th scope="col">Year</th>
<th scope="col" class="num">Days</th>
<th scope="col" class="num">Sessions</th>
<th scope="col" class="num">Traffic</th>
<th scope="col" class="num">CPS</th>
<th scope="col" class="num">Usage</th></tr>
</thead>
<tbody>
%TRENDLOOP="YEARS"
@STARTCIRCLE()
<tr><th scope="row">@TRENDDATE(LEFT,*)</th>
<td class="num">@TRENDDAYS(LEFT,*)</td>
<td class="num">@TRENDSESSIONS(LEFT,*)</td>
<td class="num">@TRENDTRAFFIC(LEFT,*)</td>
<td class="num">@TRENDCPS(LEFT,*)</td>
<td class="num">@TRENDUSAGE(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
</table>
</div>
</section>
<section aria-labelledby="top">
<h2 id="top">Busiest links of @TRENDLASTMONTH(LEFT,*)</h2>
<figure class="plot">
@CHART(TOPMONTH)
</figure>
<div class="scroll">
<table>
<thead>
<tr><th scope="col" class="num">#</th>
<th scope="col">Link</th>
<th scope="col" class="num">Days</th>
<th scope="col" class="num">Sessions</th>
<th scope="col" class="num">Received</th>
<th scope="col" class="num">Sent</th>
<th scope="col" class="num">CPS</th>
<th scope="col">Online</th></tr>
</thead>
<tbody>
%TRENDLOOP="TOPMONTH 10"
@STARTCIRCLE()
<tr><td class="num">@TRENDRANK(LEFT,*)</td>
<th scope="row">@TRENDADDRESS(LEFT,*)</th>
<td class="num">@TRENDDAYS(LEFT,*)</td>
<td class="num">@TRENDSESSIONS(LEFT,*)</td>
<td class="num">@TRENDRECEIVED(LEFT,*)</td>
<td class="num">@TRENDSENT(LEFT,*)</td>
<td class="num">@TRENDCPS(LEFT,*)</td>
<td>@TRENDONLINE(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
</table>
</div>
</section>
<section aria-labelledby="topdays">
<h2 id="topdays">Busiest days</h2>
<div class="scroll fit">
<table class="narrow">
<thead>
<tr><th scope="col" class="num">#</th>
<th scope="col">Day</th>
<th scope="col" class="num">Sessions</th>
<th scope="col" class="num">Traffic</th>
<th scope="col" class="num">Usage</th></tr>
</thead>
<tbody>
%TRENDLOOP="TOPDAYS 10"
@STARTCIRCLE()
<tr><td class="num">@TRENDRANK(LEFT,*)</td>
<th scope="row">@TRENDDATE(LEFT,*)</th>
<td class="num">@TRENDSESSIONS(LEFT,*)</td>
<td class="num">@TRENDTRAFFIC(LEFT,*)</td>
<td class="num">@TRENDUSAGE(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
</table>
</div>
</section>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>

