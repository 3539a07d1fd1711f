// Replaced by the libmpv player.
