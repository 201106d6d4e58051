// Map drawing: layers, single objects, labels, clipping and hit tests.
