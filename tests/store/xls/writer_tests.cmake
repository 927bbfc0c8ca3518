# writer tests
