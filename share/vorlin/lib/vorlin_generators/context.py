"""What every generator run works with: the installation, its device database and IP
catalog, the project, the test hooks and the output writer."""

import os

from .catalog import Catalog
from .devices import DeviceDatabase
from .faults import Fault
from .installation import Installation
from .outputs import Outputs
from .project import Project


class Context:
    def __init__(self, reporter, project_name="", revision=""):
        self.installation = Installation()
        self.devices = DeviceDatabase(self.installation.devices_file)
        self.catalog = Catalog(self.installation.catalog_dir, self.devices, reporter)
        self.project = Project(project_name, revision, os.getcwd(), reporter)
        self.project_family = self.project.family(self.devices, reporter)
        self.fault = Fault()
        self.fault.announce(reporter)
        self.outputs = Outputs(self.fault)
        # The system tool string recorded in what the generators write.
        self.tool = "TesselCrestPro" if self.installation.is_pro_edition else "Tessel"

    @property
    def version(self):
        return self.installation.version

    def family_for(self, family_text):
        """The family a system is built for: the project's, else the one the file names."""
        return self.project_family or self.devices.find_family(family_text)
