// Stands in while no resource is committed.
