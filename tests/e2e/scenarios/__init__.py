# SPDX-License-Identifier: MIT
"""The end-to-end scenarios, by what they exercise: each module registers its
own with registry.scenario, and registry.load finds every module here."""
