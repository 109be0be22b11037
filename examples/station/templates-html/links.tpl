; Links: every remote system of the period once, in address order, with its
; sessions and calls (incoming ok and failed; calls made, connected, ended
; well, failed, never connected; the latest session), its traffic, speed and
; time summed over all its sessions.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%PW="<span class='tag pw' title='password-protected'>yes</span>"
%OK="<span class='tag pw'>OK</span>"
%FAILED="<span class='tag'>failed</span>"
%TITLE="Links of @THISSTATION"
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
<li><a href="links.html" aria-current="page">Links</a></li>
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
<h1>Links</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Address</th><th scope="col">Sysop</th>
<th scope="col" class="num">In ok</th><th scope="col" class="num">In failed</th>
<th scope="col" class="num">Calls</th><th scope="col" class="num">Connected</th>
<th scope="col" class="num">Calls ok</th><th scope="col" class="num">Calls failed</th>
<th scope="col" class="num">Never connected</th><th scope="col">Last session</th>
<th scope="col" class="num">Received</th><th scope="col" class="num">Sent</th>
<th scope="col" class="num">CPS</th><th scope="col" class="num">Online</th>
<th scope="col">Password</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@ADDRESS(LEFT,*)</td>
<td>@SYSOP(LEFT,*)</td>
<td class="num">@INOK(LEFT,*)</td>
<td class="num">@INFAILED(LEFT,*)</td>
<td class="num">@CALLSMADE(LEFT,*)</td>
<td class="num">@CALLSCONNECTED(LEFT,*)</td>
<td class="num">@CALLSOK(LEFT,*)</td>
<td class="num">@CALLSFAILED(LEFT,*)</td>
<td class="num">@CALLSNOCONNECT(LEFT,*)</td>
<td>@LASTSESSIONDATE(LEFT,*) @LASTSESSIONTIME(LEFT,*) @?LASTOK=@OK(LEFT,*)@?LASTFAILED=@FAILED(LEFT,*)</td>
<td class="num">@RECEIVED(LEFT,*)</td>
<td class="num">@SENT(LEFT,*)</td>
<td class="num">@CPS(LEFT,*)</td>
<td class="num">@LINKTIME(LEFT,*)</td>
<td>@?PROTECTED=@PW(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
<tfoot>
<tr><th scope="row">@NUMBEROFLINKS(LEFT,*) links</th><td>@NUMBEROFSESSIONS(LEFT,*) sessions</td>
<td colspan="7">@FAILEDSESSIONS(LEFT,*) failed sessions, @FAILEDCALLS(LEFT,*) calls never connected, @UNPROTECTEDSESSIONS(LEFT,*) without a password, @NOADDRESSSESSIONS(LEFT,*) without an address</td><td></td>
<td class="num">@TOTALRECEIVED(LEFT,*)</td><td class="num">@TOTALSENT(LEFT,*)</td><td class="num">@TOTALCPS(LEFT,*)</td>
<td class="num">@TOTALSESSIONTIME(LEFT,*)</td><td></td></tr>
</tfoot>
</table>
</div>
<p class="note">Received and sent in bytes; CPS is the average transfer speed in bytes per second.</p>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
