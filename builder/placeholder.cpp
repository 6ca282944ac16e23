// Filled by the resource store and the package builder.
