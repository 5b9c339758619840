"""Shared code of the installation's generator programs (tessel-generate, ip-deploy,
vkelvane): installation data, the project family, system files and generated outputs."""
