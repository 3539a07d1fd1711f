// Replaced by the version feed.
