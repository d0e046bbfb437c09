# Windows packaging: to come.
