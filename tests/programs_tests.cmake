# Tests of the two programs' own code, driven through the headless harness.
curves_test(plotter plotter dialogs variants engine test_support)
