// Placeholder until the maps are written.
