// Filled by the components.
