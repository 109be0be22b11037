; Failures: why sessions and calls failed, per link and reason, in address
; order, the sessions that never gave an address last (their address shows
; as "(none)"). See the text template failures.tpl for every macro of the page.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%CLAIMED="<span class='tag' title='the address is only what the remote claimed'>claimed</span>"
%TITLE="Failures of @THISSTATION"
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
<li><a href="disk.html">Disks</a></li>
<li><a href="lastcall.html">Last calls</a></li>
<li><a href="trends.html">Trends</a></li>
<li><a href="failures.html" aria-current="page">Failures</a></li>
</ul>
</nav>
</header>
<main>
<h1>Failures</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Address</th><th scope="col">Reason</th><th scope="col" class="num">Sessions</th><th scope="col" class="num">Calls</th><th scope="col">Last</th><th scope="col">Text</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@FAILADDRESS(LEFT,*) @?FAILCLAIMED=@CLAIMED(LEFT,*)</td>
<td>@FAILREASON(LEFT,*)</td>
<td class="num">@FAILSESSIONS(LEFT,*)</td>
<td class="num">@FAILCALLS(LEFT,*)</td>
<td>@FAILLASTDATE(LEFT,*) @FAILLASTTIME(LEFT,*)</td>
<td>@FAILTEXT(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
<tfoot>
<tr><th scope="row">In all</th><td></td><td class="num">@FAILEDSESSIONS(LEFT,*)</td><td class="num">@FAILEDCALLS(LEFT,*)</td><td></td><td>@NOADDRESSSESSIONS(LEFT,*) sessions without an address</td></tr>
</tfoot>
</table>
</div>
<p class="note">Sessions: failed sessions, incoming and outgoing; calls: calls that never connected. The text is what the log said, the remote's own words for a remote error.</p>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
