show=1
