// Filled by the PE resource reader and writer.
