// startup
