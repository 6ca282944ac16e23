// Filled by the platform layer.
