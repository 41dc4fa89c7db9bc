// Placeholder until the folder's first unit lands; delete it then.
