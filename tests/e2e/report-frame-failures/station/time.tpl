%LINELENGTH="10"
A template without its loop.
