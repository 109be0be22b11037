; Sessions: one row per mailer session of the period, in log order.
; Conditions show one of the definitions below: @?IN=@IN(LEFT,*) writes the
; value of IN for an incoming session and nothing otherwise. Inside a
; definition, use ' for attribute quotes: the value ends at the second ".
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%IN="<span class='tag in'>in</span>"
%OUT="<span class='tag out'>out</span>"
%OK="ok"
%FAIL="<strong class='bad'>aborted</strong>"
%PW="<span class='tag pw' title='password-protected'>yes</span>"
%ZMODEM="ZModem"
%HYDRA="Hydra"
%ZEDZAP="ZedZap"
%DIRZAP="DirZap"
%HIDDEN="<p class='note'>Sessions that moved no bytes are not listed.</p>"
%TITLE="Sessions of @THISSTATION"
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
<li><a href="sessions.html" aria-current="page">Sessions</a></li>
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
<h1>Sessions</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Start</th>
<th scope="col">Dir</th>
<th scope="col">Result</th>
<th scope="col" class="num">Speed</th>
<th scope="col">Address</th>
<th scope="col" class="num">Received</th>
<th scope="col" class="num">Sent</th>
<th scope="col" class="num">CPS</th>
<th scope="col">Password</th>
<th scope="col">Protocol</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@STARTTIME(LEFT,*)</td>
<td>@?IN=@IN(LEFT,*)@?OUT=@OUT(LEFT,*)</td>
<td>@?COMPLETE=@OK(LEFT,*)@?ABORTED=@FAIL(LEFT,*)</td>
<td class="num">@CONNECT(LEFT,*)</td>
<td>@ADDRESS(LEFT,*)</td>
<td class="num">@RECEIVED(LEFT,*)</td>
<td class="num">@SENT(LEFT,*)</td>
<td class="num">@CPS(LEFT,*)</td>
<td>@?PROTECTED=@PW(LEFT,*)</td>
<td>@?ZMODEM=@ZMODEM(LEFT,*)@?HYDRA=@HYDRA(LEFT,*)@?ZEDZAP=@ZEDZAP(LEFT,*)@?DIRZAP=@DIRZAP(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
</table>
</div>
@?HIDENULLSESSIONS=@HIDDEN(LEFT,*)
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
