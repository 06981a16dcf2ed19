// (in Arbeit)
