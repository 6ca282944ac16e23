// Filled by the runtime layer.
