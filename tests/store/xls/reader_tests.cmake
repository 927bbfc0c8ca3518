# reader tests
