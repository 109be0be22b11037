; Mailers: which software the remote sysops run. Each sysop counts once.
; Two loops: the first lists mailers by name and version, the second the
; products (the first word of the name: cut at its first blank, so
; "Mr. Fixit 1.2" counts as "Mr.", except that a first word "The" counts as
; "The Brake!"). The lines between them are written once, after the first list. @MOSTPOPULAR is the top entry of the list
; written last; @DIFFERENTMAILERS is known after the second loop.
;
; Every page of this set: "%ESCAPE" makes the page HTML, so every value
; Zentrak puts in (names from the log, the station's own names, numbers) is
; written with & < > " ' as entities, while the text of this template and of
; the definitions below is written as it stands. The pages share zentrak.css,
; which must lie beside them. The charset below must be the one of the
; mailer's log (utf-8, windows-1251, ibm866, koi8-r, ...).
%ESCAPE="HTML"
%TITLE="Mailers of the links of @THISSTATION"
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
<li><a href="mailers.html" aria-current="page">Mailers</a></li>
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
<h1>Mailers</h1>
<p class="period">@PERIOD(LEFT,*)</p>
<h2>Versions</h2>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Mailer and version</th><th scope="col" class="num">Sysops</th><th scope="col" class="num">Share</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@MAILER(LEFT,*)</td>
<td class="num">@MAILERSNUMBER(LEFT,*)</td><td class="num">@MAILERSPROCENT(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
</table>
</div>
<p class="note">Most popular version: @MOSTPOPULAR(LEFT,*)</p>
<h2>Products</h2>
<div class="scroll">
<table>
<thead>
<tr><th scope="col">Product</th><th scope="col" class="num">Sysops</th><th scope="col" class="num">Share</th></tr>
</thead>
<tbody>
@STARTCIRCLE()
<tr><td>@MAILER(LEFT,*)</td>
<td class="num">@MAILERSNUMBER(LEFT,*)</td><td class="num">@MAILERSPROCENT(LEFT,*)</td></tr>
@ENDCIRCLE()
</tbody>
</table>
</div>
<p class="note">@DIFFERENTMAILERS(LEFT,*) different products; the most popular is @MOSTPOPULAR(LEFT,*).</p>
</main>
<footer>
<p>@SITE(LEFT,*)
&middot; sysop @OPERATOR(LEFT,*)
&middot; written by @MADE(LEFT,*)</p>
</footer>
</body>
</html>
