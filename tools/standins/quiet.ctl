log=0
