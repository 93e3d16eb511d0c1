"""Generators for Velmora's run-time data (meshes, pictures, sounds).

Only placements, objfile and level are imported by the checker, so those
must stay free of anything beyond numpy.
"""
