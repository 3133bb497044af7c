// Replaced by the XKB keyboard backend.
